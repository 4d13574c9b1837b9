# aggregate: an array of employee records summarised per department: head
# count, payroll, top salary and its holder, and an age histogram.
DEPTS = ["eng", "ops", "sales", "legal", "support"]


def make_people(n):
    first = ["ana", "ben", "chen", "dara", "eli", "fay", "gus", "hana"]
    people = []
    seed = 2024
    for i in range(n):
        seed = (seed * 1103515245 + 12345) % 2147483648
        dept = DEPTS[(seed // 65536) % 5]
        seed = (seed * 1103515245 + 12345) % 2147483648
        salary = 30000 + (seed // 64) % 90000
        seed = (seed * 1103515245 + 12345) % 2147483648
        age = 20 + (seed // 1024) % 45
        people.append({"name": f"{first[i % 8]}-{i}", "dept": dept,
                       "salary": salary, "age": age})
    return people


def main():
    people = make_people(120000)
    stats = {d: {"count": 0, "total": 0, "best": 0, "best_name": ""} for d in DEPTS}
    for p in people:
        s = stats[p["dept"]]
        s["count"] += 1
        s["total"] += p["salary"]
        if p["salary"] > s["best"]:
            s["best"] = p["salary"]
            s["best_name"] = p["name"]
    for d in DEPTS:
        s = stats[d]
        print(f"{d}: count={s['count']} total={s['total']} "
              f"mean={s['total'] // s['count']} top={s['best']} ({s['best_name']})")
    ages = {"<30": 0, "30s": 0, "40s": 0, "50s": 0, "60+": 0}
    senior_pay = 0
    for p in people:
        age = p["age"]
        if age < 30:
            ages["<30"] += 1
        elif age < 40:
            ages["30s"] += 1
        elif age < 50:
            ages["40s"] += 1
        elif age < 60:
            ages["50s"] += 1
        else:
            ages["60+"] += 1
        if age >= 50:
            senior_pay += p["salary"]
    print("ages: " + " ".join(f"{k}={v}" for k, v in ages.items()))
    print(f"senior payroll={senior_pay}")


main()

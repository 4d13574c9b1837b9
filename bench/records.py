# records: dictionaries made from literals in a loop and read by key.
def make(i):
    return {"id": i, "weight": i % 17, "label": "item", "next": (i * 7) % 101}

def main():
    total = 0
    for i in range(150000):
        r = make(i)
        total = (total + r["weight"] * r["next"] + r["id"] % 13 + len(r["label"])) % 1000000007
    print("records total=%d" % total)

main()

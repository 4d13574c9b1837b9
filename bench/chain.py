# chain: singly linked lists of dictionaries, built by prepending and
# walked recursively: length, sum, map, filter, reverse, merge of two
# sorted lists and lookups in an association list.
import sys

sys.setrecursionlimit(10000)
seed = 1999


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


def cons(val, rest):
    return {"val": val, "next": rest}


def length(lst):
    if lst is None:
        return 0
    return 1 + length(lst["next"])


def total(lst):
    if lst is None:
        return 0
    return lst["val"] + total(lst["next"])


def scale(lst, k):
    if lst is None:
        return None
    return cons(lst["val"] * k % 1000, scale(lst["next"], k))


def evens(lst):
    if lst is None:
        return None
    if lst["val"] % 2 == 0:
        return cons(lst["val"], evens(lst["next"]))
    return evens(lst["next"])


def reverse_list(lst):
    out = None
    while lst is not None:
        out = cons(lst["val"], out)
        lst = lst["next"]
    return out


def insert_sorted(lst, v):
    if lst is None:
        return cons(v, None)
    if v <= lst["val"]:
        return cons(v, lst)
    return cons(lst["val"], insert_sorted(lst["next"], v))


def merge(a, b):
    if a is None:
        return b
    if b is None:
        return a
    if a["val"] <= b["val"]:
        return cons(a["val"], merge(a["next"], b))
    return cons(b["val"], merge(a, b["next"]))


def lookup(pairs, key):
    while pairs is not None:
        if pairs["key"] == key:
            return pairs["value"]
        pairs = pairs["next"]
    return -1


def main():
    lst = None
    for _ in range(3000):
        lst = cons(next_rand() % 1000, lst)
    acc = 0
    for rnd in range(30):
        doubled = scale(lst, rnd + 2)
        kept = evens(doubled)
        acc += length(doubled) + total(doubled) + length(kept) + total(kept)
    back = reverse_list(lst)
    print("length=%d sum=%d first=%d last=%d total=%d" % (
        length(lst), total(lst), lst["val"], back["val"], acc))
    a = b = None
    for _ in range(300):
        a = insert_sorted(a, next_rand() % 5000)
        b = insert_sorted(b, next_rand() % 5000)
    merged = merge(a, b)
    ordered = True
    e = merged
    while e["next"] is not None:
        if e["val"] > e["next"]["val"]:
            ordered = False
        e = e["next"]
    print("merged=%d sorted=%s smallest=%d largest=%d" % (
        length(merged), "true" if ordered else "false", merged["val"], e["val"]))
    pairs = None
    for k in range(400):
        pairs = {"key": k * 7 % 400, "value": k, "next": pairs}
    found = 0
    for _ in range(5000):
        found += lookup(pairs, next_rand() % 500)
    print("lookups=%d" % found)


main()

# bst: a binary search tree of dictionaries, built by inserting keys from a
# fixed pseudo-random sequence and walked recursively: size, height, sum,
# range counts, lookups and the keys in order.
seed = 12345


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


def insert(node, key):
    if node is None:
        return {"key": key, "left": None, "right": None, "count": 1}
    if key < node["key"]:
        node["left"] = insert(node["left"], key)
    elif key > node["key"]:
        node["right"] = insert(node["right"], key)
    else:
        node["count"] += 1
    return node


def size(node):
    if node is None:
        return 0
    return 1 + size(node["left"]) + size(node["right"])


def height(node):
    if node is None:
        return 0
    return 1 + max(height(node["left"]), height(node["right"]))


def total(node):
    if node is None:
        return 0
    return node["key"] * node["count"] + total(node["left"]) + total(node["right"])


def count_range(node, lo, hi):
    if node is None:
        return 0
    n = 0
    if node["key"] >= lo:
        n += count_range(node["left"], lo, hi)
    if lo <= node["key"] < hi:
        n += node["count"]
    if node["key"] < hi:
        n += count_range(node["right"], lo, hi)
    return n


def find(node, key):
    while node is not None:
        if key == node["key"]:
            return node["count"]
        node = node["left"] if key < node["key"] else node["right"]
    return 0


def in_order(node, acc):
    if node is not None:
        in_order(node["left"], acc)
        acc.append(node["key"])
        in_order(node["right"], acc)
    return acc


def main():
    tree = None
    for _ in range(6000):
        tree = insert(tree, next_rand() % 20000)
    print("size=%d height=%d sum=%d" % (size(tree), height(tree), total(tree)))
    ranges = 0
    for lo in range(40):
        ranges += count_range(tree, lo * 500, lo * 500 + 750)
    print("ranges=%d" % ranges)
    found = hits = 0
    for _ in range(12000):
        c = find(tree, next_rand() % 20000)
        if c > 0:
            hits += 1
            found += c
    print("hits=%d found=%d" % (hits, found))
    keys = in_order(tree, [])
    print("keys=%d first=%d %d %d last=%d" % (len(keys), keys[0], keys[1], keys[2], keys[-1]))
    ordered = all(a < b for a, b in zip(keys, keys[1:]))
    print("ordered=%s" % ("true" if ordered else "false"))


main()

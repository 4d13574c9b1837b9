# tak: deep, branching recursion with three arguments.
def tak(x, y, z):
    if y < x:
        return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
    return z

def main():
    total = 0
    for i in range(6):
        total += tak(18 + i, 12, 6)
    print("tak total=%d" % total)

main()

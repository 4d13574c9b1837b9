# helpers: particles bouncing in a box, written with small helper
# functions for every step, as a tidy program would be.
def next_seed(s):
    return (s * 1103515245 + 12345) % 2147483648


def pick(s, n):
    return (s // 65536) % n


def sq(x):
    return x * x


def dist2(x1, y1, x2, y2):
    return sq(x1 - x2) + sq(y1 - y2)


def clamp(v, lo, hi):
    if v < lo:
        return lo
    if v > hi:
        return hi
    return v


def bounce(p, v, lo, hi):
    if p < lo or p > hi:
        return -v
    return v


def is_near(x, y, cx, cy, r):
    return dist2(x, y, cx, cy) < sq(r)


def main():
    size = 1000
    seed = 7
    xs, ys, vxs, vys = [], [], [], []
    for _ in range(500):
        seed = next_seed(seed)
        xs.append(pick(seed, size))
        seed = next_seed(seed)
        ys.append(pick(seed, size))
        seed = next_seed(seed)
        vxs.append(pick(seed, 21) - 10)
        seed = next_seed(seed)
        vys.append(pick(seed, 21) - 10)
    near = 0
    for _ in range(600):
        nxs, nys, nvxs, nvys = [], [], [], []
        for i in range(len(xs)):
            x = xs[i] + vxs[i]
            y = ys[i] + vys[i]
            nvxs.append(bounce(x, vxs[i], 0, size))
            nvys.append(bounce(y, vys[i], 0, size))
            x = clamp(x, 0, size)
            y = clamp(y, 0, size)
            if is_near(x, y, 500, 500, 150):
                near += 1
            nxs.append(x)
            nys.append(y)
        xs, ys, vxs, vys = nxs, nys, nvxs, nvys
    print(f"near={near} sum_x={sum(xs)} sum_y={sum(ys)}")


main()

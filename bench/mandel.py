# mandel: float arithmetic — escape counts over a grid of the complex plane.
def main():
    size = 200
    limit = 80
    inside = 0
    iters = 0
    for py in range(size):
        ci = float(py) * 2.4 / float(size) - 1.2
        for px in range(size):
            cr = float(px) * 3.0 / float(size) - 2.1
            zr = 0.0
            zi = 0.0
            n = 0
            while n < limit and zr * zr + zi * zi <= 4.0:
                t = zr * zr - zi * zi + cr
                zi = 2.0 * zr * zi + ci
                zr = t
                n += 1
            iters += n
            if n == limit:
                inside += 1
    print("mandel inside=%d iterations=%d" % (inside, iters))

main()

# life: Conway's game of life on a 32 by 32 grid that wraps around at the
# edges, started from a fixed pseudo-random pattern; each generation is a
# new grid of rows.
seed = 4242


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


def random_grid(n):
    return [[1 if next_rand() % 4 == 0 else 0 for _ in range(n)] for _ in range(n)]


def neighbours(grid, n, r, c):
    count = 0
    for dr in (-1, 0, 1):
        row = grid[(r + dr) % n]
        for dc in (-1, 0, 1):
            if dr or dc:
                count += row[(c + dc) % n]
    return count


def step(grid, n):
    new = []
    for r in range(n):
        row = []
        for c in range(n):
            k = neighbours(grid, n, r, c)
            row.append(1 if k == 3 or (k == 2 and grid[r][c]) else 0)
        new.append(row)
    return new


def population(grid):
    return sum(sum(row) for row in grid)


def main():
    n = 32
    grid = random_grid(n)
    counts = [population(grid)]
    for gen in range(1, 121):
        grid = step(grid, n)
        if gen % 10 == 0:
            counts.append(population(grid))
    h = 0
    for r in range(n):
        for c in range(n):
            if grid[r][c]:
                h = (h * 31 + r * n + c) % 1000000007
    print("population every 10 generations: [%s]" % ", ".join(map(str, counts)))
    print("hash=%d" % h)


main()

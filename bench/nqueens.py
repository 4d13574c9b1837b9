# nqueens: counting the placements of n queens by backtracking, with the
# occupied columns and diagonals kept in lists.
def place(row, n, cols, up, down):
    if row == n:
        return 1
    count = 0
    for c in range(n):
        if not cols[c] and not up[row + c] and not down[row - c + n - 1]:
            cols[c] = up[row + c] = down[row - c + n - 1] = True
            count += place(row + 1, n, cols, up, down)
            cols[c] = up[row + c] = down[row - c + n - 1] = False
    return count

def main():
    n = 11
    for size in range(6, n + 1):
        cols = [False] * size
        up = [False] * (2 * size - 1)
        down = [False] * (2 * size - 1)
        print("nqueens %d solutions=%d" % (size, place(0, size, cols, up, down)))

main()

# collatz: integer arithmetic in nested while loops, no calls.
def main():
    limit = 40000
    steps = 0
    longest = 0
    best = 0
    for start in range(1, limit):
        x = start
        count = 0
        while x != 1:
            if x % 2 == 0:
                x = x // 2
            else:
                x = 3 * x + 1
            count += 1
        steps += count
        if count > longest:
            longest = count
            best = start
    print("collatz steps=%d best=%d longest=%d" % (steps, best, longest))

main()

# sieve: the sieve of Eratosthenes over a list of flags.
def main():
    n = 2000000
    composite = [False] * (n + 1)
    p = 2
    while p * p <= n:
        if not composite[p]:
            for j in range(p * p, n + 1, p):
                composite[j] = True
        p += 1
    count = 0
    last = 0
    for i in range(2, n + 1):
        if not composite[i]:
            count += 1
            last = i
    print("sieve primes=%d last=%d" % (count, last))

main()

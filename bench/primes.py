# primes: trial division by the primes found so far (see primes.tvk).
def main():
    limit = 120000
    primes = [2]
    n = 3
    total = 2
    while n < limit:
        i = 0
        prime = True
        while True:
            p = primes[i]
            if p * p > n:
                break
            if n % p == 0:
                prime = False
                break
            i += 1
        if prime:
            primes.append(n)
            total = (total + n) % 1000000007
        n += 2
    print("primes count=%d sum=%d" % (len(primes), total))

main()

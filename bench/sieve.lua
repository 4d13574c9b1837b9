-- sieve: the sieve of Eratosthenes over a table of flags.
local function main()
    local n = 2000000
    local composite = {}
    for i = 0, n do composite[i] = false end
    local p = 2
    while p * p <= n do
        if not composite[p] then
            for j = p * p, n, p do composite[j] = true end
        end
        p = p + 1
    end
    local count, last = 0, 0
    for i = 2, n do
        if not composite[i] then
            count = count + 1
            last = i
        end
    end
    print(string.format("sieve primes=%d last=%d", count, last))
end
main()

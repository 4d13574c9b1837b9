-- primes: trial division by the primes found so far (see primes.tvk).
local function main()
    local limit = 120000
    local primes = {2}
    local n = 3
    local total = 2
    while n < limit do
        local i = 1
        local prime = true
        while true do
            local p = primes[i]
            if p * p > n then break end
            if n % p == 0 then prime = false; break end
            i = i + 1
        end
        if prime then
            primes[#primes + 1] = n
            total = (total + n) % 1000000007
        end
        n = n + 2
    end
    print(string.format("primes count=%d sum=%d", #primes, total))
end
main()

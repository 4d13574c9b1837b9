-- collatz: integer arithmetic in nested while loops, no calls.
local function main()
    local limit = 40000
    local steps, longest, best = 0, 0, 0
    for start = 1, limit - 1 do
        local x = start
        local count = 0
        while x ~= 1 do
            if x % 2 == 0 then
                x = x // 2
            else
                x = 3 * x + 1
            end
            count = count + 1
        end
        steps = steps + count
        if count > longest then
            longest = count
            best = start
        end
    end
    print(string.format("collatz steps=%d best=%d longest=%d", steps, best, longest))
end
main()

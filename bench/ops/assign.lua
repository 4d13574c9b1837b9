-- assign: a local copied into a local, the sink the reads below use, 1000000 times.
local function add(a, b)
    return a + b
end

local function main()
    local d = {key = 1, other = 2}
    local e = {val = 0, next = {val = 3}}
    local x = 0
    for i = 0, 999999 do
        x = i
    end
    print(x)
end
main()

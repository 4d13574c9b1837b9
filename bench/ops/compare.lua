-- compare: an integer comparison as the condition of an if, 1000000 times.
local function add(a, b)
    return a + b
end

local function main()
    local d = {key = 1, other = 2}
    local e = {val = 0, next = {val = 3}}
    local x = 0
    for i = 0, 999999 do
        if x < i then
        end
    end
    print(x)
end
main()

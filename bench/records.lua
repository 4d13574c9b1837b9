-- records: tables made from constructors in a loop and read by key.
local function make(i)
    return {id = i, weight = i % 17, label = "item", next = (i * 7) % 101}
end

local function main()
    local total = 0
    for i = 0, 149999 do
        local r = make(i)
        total = (total + r.weight * r.next + r["id"] % 13 + #r.label) % 1000000007
    end
    print(string.format("records total=%d", total))
end
main()

-- tak: deep, branching recursion with three arguments.
local function tak(x, y, z)
    if y < x then
        return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
    end
    return z
end

local function main()
    local total = 0
    for i = 0, 5 do
        total = total + tak(18 + i, 12, 6)
    end
    print(string.format("tak total=%d", total))
end
main()

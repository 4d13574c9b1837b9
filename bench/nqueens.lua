-- nqueens: counting the placements of n queens by backtracking, with the
-- occupied columns and diagonals kept in tables.
local function place(row, n, cols, up, down)
    if row == n then return 1 end
    local count = 0
    for c = 0, n - 1 do
        if not cols[c] and not up[row + c] and not down[row - c + n - 1] then
            cols[c], up[row + c], down[row - c + n - 1] = true, true, true
            count = count + place(row + 1, n, cols, up, down)
            cols[c], up[row + c], down[row - c + n - 1] = false, false, false
        end
    end
    return count
end

local function main()
    local n = 11
    for size = 6, n do
        print(string.format("nqueens %d solutions=%d", size, place(0, size, {}, {}, {})))
    end
end
main()

-- life: Conway's game of life on a 32 by 32 grid that wraps around at the
-- edges, started from a fixed pseudo-random pattern; each generation is a
-- new grid of rows. Rows and columns count from 0 here.
local seed = 4242

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

local function random_grid(n)
    local grid = {}
    for r = 0, n - 1 do
        local row = {}
        for c = 0, n - 1 do
            row[c] = (next_rand() % 4 == 0) and 1 or 0
        end
        grid[r] = row
    end
    return grid
end

local function neighbours(grid, n, r, c)
    local count = 0
    for dr = -1, 1 do
        local row = grid[(r + dr) % n]
        for dc = -1, 1 do
            if dr ~= 0 or dc ~= 0 then
                count = count + row[(c + dc) % n]
            end
        end
    end
    return count
end

local function step(grid, n)
    local new = {}
    for r = 0, n - 1 do
        local row = {}
        for c = 0, n - 1 do
            local k = neighbours(grid, n, r, c)
            row[c] = (k == 3 or (k == 2 and grid[r][c] == 1)) and 1 or 0
        end
        new[r] = row
    end
    return new
end

local function population(grid, n)
    local count = 0
    for r = 0, n - 1 do
        for c = 0, n - 1 do count = count + grid[r][c] end
    end
    return count
end

local function main()
    local n = 32
    local grid = random_grid(n)
    local counts = {population(grid, n)}
    for gen = 1, 120 do
        grid = step(grid, n)
        if gen % 10 == 0 then counts[#counts + 1] = population(grid, n) end
    end
    local hash = 0
    for r = 0, n - 1 do
        for c = 0, n - 1 do
            if grid[r][c] == 1 then hash = (hash * 31 + r * n + c) % 1000000007 end
        end
    end
    print("population every 10 generations: [" .. table.concat(counts, ", ") .. "]")
    print(string.format("hash=%d", hash))
end
main()

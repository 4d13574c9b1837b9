-- bst: a binary search tree of tables, built by inserting keys from a
-- fixed pseudo-random sequence and walked recursively: size, height, sum,
-- range counts, lookups and the keys in order.
local seed = 12345

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

local function insert(node, key)
    if node == nil then
        return {key = key, count = 1}
    end
    if key < node.key then
        node.left = insert(node.left, key)
    elseif key > node.key then
        node.right = insert(node.right, key)
    else
        node.count = node.count + 1
    end
    return node
end

local function size(node)
    if node == nil then return 0 end
    return 1 + size(node.left) + size(node.right)
end

local function height(node)
    if node == nil then return 0 end
    return 1 + math.max(height(node.left), height(node.right))
end

local function total(node)
    if node == nil then return 0 end
    return node.key * node.count + total(node.left) + total(node.right)
end

local function count_range(node, lo, hi)
    if node == nil then return 0 end
    local n = 0
    if node.key >= lo then n = n + count_range(node.left, lo, hi) end
    if node.key >= lo and node.key < hi then n = n + node.count end
    if node.key < hi then n = n + count_range(node.right, lo, hi) end
    return n
end

local function find(node, key)
    while node do
        if key == node.key then return node.count end
        if key < node.key then node = node.left else node = node.right end
    end
    return 0
end

local function in_order(node, acc)
    if node then
        in_order(node.left, acc)
        acc[#acc + 1] = node.key
        in_order(node.right, acc)
    end
    return acc
end

local function main()
    local tree = nil
    for _ = 1, 6000 do
        tree = insert(tree, next_rand() % 20000)
    end
    print(string.format("size=%d height=%d sum=%d", size(tree), height(tree), total(tree)))
    local ranges = 0
    for lo = 0, 39 do
        ranges = ranges + count_range(tree, lo * 500, lo * 500 + 750)
    end
    print(string.format("ranges=%d", ranges))
    local found, hits = 0, 0
    for _ = 1, 12000 do
        local c = find(tree, next_rand() % 20000)
        if c > 0 then
            hits = hits + 1
            found = found + c
        end
    end
    print(string.format("hits=%d found=%d", hits, found))
    local keys = in_order(tree, {})
    local n = #keys
    print(string.format("keys=%d first=%d %d %d last=%d", n, keys[1], keys[2], keys[3], keys[n]))
    local ordered = true
    for k = 2, n do
        if keys[k - 1] >= keys[k] then ordered = false end
    end
    print("ordered=" .. tostring(ordered))
end
main()

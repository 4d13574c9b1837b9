-- chain: singly linked lists of tables, built by prepending and walked
-- recursively: length, sum, map, filter, reverse, merge of two sorted
-- lists and lookups in an association list.
local seed = 1999

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

local function cons(val, rest)
    return {val = val, next = rest}
end

local function length(list)
    if list == nil then return 0 end
    return 1 + length(list.next)
end

local function sum(list)
    if list == nil then return 0 end
    return list.val + sum(list.next)
end

local function scale(list, k)
    if list == nil then return nil end
    return cons(list.val * k % 1000, scale(list.next, k))
end

local function evens(list)
    if list == nil then return nil end
    if list.val % 2 == 0 then
        return cons(list.val, evens(list.next))
    end
    return evens(list.next)
end

local function reverse_list(list)
    local out = nil
    while list do
        out = cons(list.val, out)
        list = list.next
    end
    return out
end

local function insert_sorted(list, v)
    if list == nil then return cons(v, nil) end
    if v <= list.val then return cons(v, list) end
    return cons(list.val, insert_sorted(list.next, v))
end

local function merge(a, b)
    if a == nil then return b end
    if b == nil then return a end
    if a.val <= b.val then
        return cons(a.val, merge(a.next, b))
    end
    return cons(b.val, merge(a, b.next))
end

local function lookup(pairs, key)
    while pairs do
        if pairs.key == key then return pairs.value end
        pairs = pairs.next
    end
    return -1
end

local function main()
    local list = nil
    for _ = 1, 3000 do
        list = cons(next_rand() % 1000, list)
    end
    local total = 0
    for round = 0, 29 do
        local doubled = scale(list, round + 2)
        local kept = evens(doubled)
        total = total + length(doubled) + sum(doubled) + length(kept) + sum(kept)
    end
    local back = reverse_list(list)
    print(string.format("length=%d sum=%d first=%d last=%d total=%d",
        length(list), sum(list), list.val, back.val, total))
    local a, b = nil, nil
    for _ = 1, 300 do
        a = insert_sorted(a, next_rand() % 5000)
        b = insert_sorted(b, next_rand() % 5000)
    end
    local merged = merge(a, b)
    local sorted = true
    local e = merged
    while e.next do
        if e.val > e.next.val then sorted = false end
        e = e.next
    end
    print(string.format("merged=%d sorted=%s smallest=%d largest=%d",
        length(merged), tostring(sorted), merged.val, e.val))
    local pairs = nil
    for k = 0, 399 do
        pairs = {key = k * 7 % 400, value = k, next = pairs}
    end
    local found = 0
    for _ = 1, 5000 do
        found = found + lookup(pairs, next_rand() % 500)
    end
    print(string.format("lookups=%d", found))
end
main()

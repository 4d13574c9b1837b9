-- heap: a binary min-heap used as the event queue of a scheduler: tasks are
-- taken in order of their next time (ties by id) and put back with a later
-- time, the way a discrete-event simulation runs.
local seed = 7

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

local function less(a, b)
    if a.time ~= b.time then return a.time < b.time end
    return a.id < b.id
end

local function heap_push(h, item)
    local i = #h + 1
    h[i] = item
    while i > 1 do
        local parent = i // 2
        if less(h[i], h[parent]) then
            h[i], h[parent] = h[parent], h[i]
            i = parent
        else
            break
        end
    end
end

local function heap_pop(h)
    local top = h[1]
    local n = #h
    h[1] = h[n]
    h[n] = nil
    n = n - 1
    local i = 1
    while true do
        local l, r, m = 2 * i, 2 * i + 1, i
        if l <= n and less(h[l], h[m]) then m = l end
        if r <= n and less(h[r], h[m]) then m = r end
        if m == i then break end
        h[i], h[m] = h[m], h[i]
        i = m
    end
    return top
end

local function main()
    local heap = {}
    for id = 0, 47 do
        heap_push(heap, {time = next_rand() % 100, id = id, runs = 0})
    end
    local done, checksum, now = 0, 0, 0
    local first = {}
    for step = 0, 3999 do
        local task = heap_pop(heap)
        now = task.time
        if step < 8 then first[#first + 1] = task.id end
        checksum = (checksum * 31 + task.id * 7 + now) % 1000000007
        done = done + 1
        heap_push(heap, {time = now + 1 + next_rand() % 50, id = task.id, runs = task.runs + 1})
    end
    local runs, most = 0, 0
    for _, t in ipairs(heap) do
        runs = runs + t.runs
        if t.runs > most then most = t.runs end
    end
    print(string.format("done=%d now=%d checksum=%d", done, now, checksum))
    print("first=[" .. table.concat(first, ", ") .. "]")
    print(string.format("queued=%d runs=%d most=%d", #heap, runs, most))
end
main()

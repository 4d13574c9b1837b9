-- graph: breadth-first search over the adjacency lists of a sparse directed
-- graph, from several start nodes: how many nodes each reaches, how far,
-- and the sum of the distances. Nodes are numbered from 0, as in the output.
local seed = 99

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

local function make_graph(n)
    local adj = {}
    for v = 0, n - 1 do
        local edges = {(v + 1) % n}
        for _ = 1, next_rand() % 3 do
            edges[#edges + 1] = next_rand() % n
        end
        adj[v] = edges
    end
    return adj
end

local function bfs(adj, n, start)
    local dist = {}
    for v = 0, n - 1 do dist[v] = -1 end
    dist[start] = 0
    local queue = {start}
    local head = 1
    while head <= #queue do
        local v = queue[head]
        head = head + 1
        for _, w in ipairs(adj[v]) do
            if dist[w] < 0 then
                dist[w] = dist[v] + 1
                queue[#queue + 1] = w
            end
        end
    end
    return dist
end

local function main()
    local n = 400
    local adj = make_graph(n)
    local edges = 0
    for v = 0, n - 1 do edges = edges + #adj[v] end
    print(string.format("nodes=%d edges=%d", n, edges))
    local all_reached, all_sum = 0, 0
    for s = 0, 9 do
        local start = s * 39
        local dist = bfs(adj, n, start)
        local reached, sum, far = 0, 0, 0
        for v = 0, n - 1 do
            local d = dist[v]
            if d >= 0 then
                reached = reached + 1
                sum = sum + d
                if d > far then far = d end
            end
        end
        print(string.format("from %d: reached=%d far=%d sum=%d", start, reached, far, sum))
        all_reached = all_reached + reached
        all_sum = all_sum + sum
    end
    print(string.format("total reached=%d sum=%d", all_reached, all_sum))
end
main()

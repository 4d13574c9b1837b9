# graph: breadth-first search over the adjacency lists of a sparse directed
# graph, from several start nodes: how many nodes each reaches, how far,
# and the sum of the distances.
from collections import deque

seed = 99


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


def make_graph(n):
    adj = []
    for v in range(n):
        edges = [(v + 1) % n]
        for _ in range(next_rand() % 3):
            edges.append(next_rand() % n)
        adj.append(edges)
    return adj


def bfs(adj, start):
    dist = [-1] * len(adj)
    dist[start] = 0
    queue = deque([start])
    while queue:
        v = queue.popleft()
        for w in adj[v]:
            if dist[w] < 0:
                dist[w] = dist[v] + 1
                queue.append(w)
    return dist


def main():
    n = 400
    adj = make_graph(n)
    print("nodes=%d edges=%d" % (n, sum(len(a) for a in adj)))
    all_reached = all_sum = 0
    for s in range(10):
        start = s * 39
        reachable = [d for d in bfs(adj, start) if d >= 0]
        reached, total, far = len(reachable), sum(reachable), max(reachable)
        print("from %d: reached=%d far=%d sum=%d" % (start, reached, far, total))
        all_reached += reached
        all_sum += total
    print("total reached=%d sum=%d" % (all_reached, all_sum))


main()

# heap: a binary min-heap used as the event queue of a scheduler: tasks are
# taken in order of their next time (ties by id) and put back with a later
# time, the way a discrete-event simulation runs.
seed = 7


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


class Task:
    __slots__ = ("time", "id", "runs")

    def __init__(self, time, id, runs):
        self.time, self.id, self.runs = time, id, runs

    def __lt__(self, other):
        return (self.time, self.id) < (other.time, other.id)


class MinHeap:
    def __init__(self):
        self.items = []

    def __len__(self):
        return len(self.items)

    def push(self, item):
        h = self.items
        h.append(item)
        i = len(h) - 1
        while i > 0:
            parent = (i - 1) // 2
            if h[i] < h[parent]:
                h[i], h[parent] = h[parent], h[i]
                i = parent
            else:
                break

    def pop(self):
        h = self.items
        top = h[0]
        last = h.pop()
        if h:
            h[0] = last
            n, i = len(h), 0
            while True:
                l, r, m = 2 * i + 1, 2 * i + 2, i
                if l < n and h[l] < h[m]:
                    m = l
                if r < n and h[r] < h[m]:
                    m = r
                if m == i:
                    break
                h[i], h[m] = h[m], h[i]
                i = m
        return top


def main():
    heap = MinHeap()
    for id in range(48):
        heap.push(Task(next_rand() % 100, id, 0))
    done = checksum = now = 0
    first = []
    for step in range(4000):
        task = heap.pop()
        now = task.time
        if step < 8:
            first.append(task.id)
        checksum = (checksum * 31 + task.id * 7 + now) % 1000000007
        done += 1
        heap.push(Task(now + 1 + next_rand() % 50, task.id, task.runs + 1))
    runs = sum(t.runs for t in heap.items)
    most = max(t.runs for t in heap.items)
    print("done=%d now=%d checksum=%d" % (done, now, checksum))
    print("first=[%s]" % ", ".join(map(str, first)))
    print("queued=%d runs=%d most=%d" % (len(heap), runs, most))


main()

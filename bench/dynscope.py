# dynscope: the names read by weigh() are passed down explicitly.
def weigh(v, scale, offset):
    return v * scale + offset

def step(n, scale):
    offset = n % 5
    acc = 0
    for j in range(20):
        acc += weigh(j, scale, offset)
    return acc

def run():
    scale = 3
    total = 0
    for n in range(200000):
        total += step(n, scale)
    return total

print("dynscope total=%d" % run())

# stackvm: a small bytecode machine with an operand stack, local slots and
# jumps, running two programs: a sum of squares modulo 7 and Euclid's
# algorithm over a range of pairs.
PUSH, LOAD, STORE, ADD, SUB, MUL, MOD, LT, JZ, JMP, OUT, HALT = range(1, 13)


def run(code, slots):
    """Runs code with the given local slots; returns (outputs, steps)."""
    stack = []
    local = list(slots)
    out = []
    pc = steps = 0
    while True:
        op = code[pc]
        steps += 1
        if op == PUSH:
            stack.append(code[pc + 1])
            pc += 2
        elif op == LOAD:
            stack.append(local[code[pc + 1]])
            pc += 2
        elif op == STORE:
            local[code[pc + 1]] = stack.pop()
            pc += 2
        elif op == JZ:
            if stack.pop() == 0:
                pc = code[pc + 1]
            else:
                pc += 2
        elif op == JMP:
            pc = code[pc + 1]
        elif op == OUT:
            out.append(stack.pop())
            pc += 1
        elif op == HALT:
            break
        else:
            b = stack.pop()
            a = stack.pop()
            if op == ADD:
                r = a + b
            elif op == SUB:
                r = a - b
            elif op == MUL:
                r = a * b
            elif op == MOD:
                r = a % b
            elif op == LT:
                r = 1 if a < b else 0
            else:
                r = 0
            stack.append(r)
            pc += 1
    return out, steps


def main():
    # slots: 0 = i, 1 = acc, 2 = n
    squares = [
        PUSH, 0, STORE, 0,
        PUSH, 0, STORE, 1,
        LOAD, 0, LOAD, 2, LT, JZ, 37,
        LOAD, 1, LOAD, 0, LOAD, 0, MUL, PUSH, 7, MOD, ADD, STORE, 1,
        LOAD, 0, PUSH, 1, ADD, STORE, 0,
        JMP, 8,
        LOAD, 1, OUT, HALT,
    ]
    # slots: 0 = a, 1 = b, 2 = t, 3 = pairs left, 4 = sum of the gcds
    gcds = [
        LOAD, 3, JZ, 58,
        LOAD, 3, PUSH, 37, MUL, PUSH, 1000, MOD, PUSH, 1, ADD, STORE, 0,
        LOAD, 3, STORE, 1,
        LOAD, 1, JZ, 42,
        LOAD, 0, LOAD, 1, MOD, STORE, 2,
        LOAD, 1, STORE, 0,
        LOAD, 2, STORE, 1,
        JMP, 21,
        LOAD, 4, LOAD, 0, ADD, STORE, 4,
        LOAD, 3, PUSH, 1, SUB, STORE, 3,
        JMP, 0,
        LOAD, 4, OUT, HALT,
    ]
    out, steps = run(squares, [0, 0, 6000])
    print("squares out=[%s] steps=%d" % (", ".join(map(str, out)), steps))
    out, steps = run(gcds, [0, 0, 0, 800, 0])
    print("gcds out=[%s] steps=%d" % (", ".join(map(str, out)), steps))


main()

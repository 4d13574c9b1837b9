# dispatch: a small register machine that reads its program as text,
# splits it into lines and words, and runs it dispatching on the
# instruction names.
PROGRAM = """# sum of squares mod 1000, then a countdown of collatz steps
set a 0
set b 25000
set c b
mul c c
mod c 1000
add a c
mod a 1000003
sub b 1
jnz b -6
out a
set b 27
set d 0
set c b
mod c 2
jnz c 4
div b 2
add d 1
jmp 4
mul b 3
add b 1
add d 1
set c b
sub c 1
jnz c -11
out d
halt
"""

REGISTERS = ("a", "b", "c", "d")


def operand(word):
    return word if word in REGISTERS else int(word)


def parse(text):
    code = []
    for line in text.split("\n"):
        if not line or line.startswith("#"):
            continue
        words = line.split(" ")
        code.append([words[0]] + [operand(w) for w in words[1:]])
    return code


def run(code, repeats):
    out = []
    steps = 0
    for _ in range(repeats):
        regs = {"a": 0, "b": 0, "c": 0, "d": 0}

        def value_of(x):
            return regs[x] if isinstance(x, str) else x

        pc = 0
        running = True
        while running and pc < len(code):
            ins = code[pc]
            op = ins[0]
            steps += 1
            pc += 1
            if op == "halt":
                running = False
            elif op == "jmp":
                pc = pc - 1 + ins[1]
            elif op == "out":
                out.append(value_of(ins[1]))
            elif op == "jnz":
                if value_of(ins[1]) != 0:
                    pc = pc - 1 + ins[2]
            else:
                x = value_of(ins[1])
                y = value_of(ins[2])
                if op == "set":
                    v = y
                elif op == "add":
                    v = x + y
                elif op == "sub":
                    v = x - y
                elif op == "mul":
                    v = x * y
                elif op == "div":
                    v = x // y
                elif op == "mod":
                    v = x % y
                else:
                    v = 0
                regs[ins[1]] = v
    print(f"steps={steps}")
    print("out=[" + ", ".join(str(v) for v in out) + "]")


def main():
    code = parse(PROGRAM)
    print(f"instructions={len(code)}")
    run(code, 5)


main()

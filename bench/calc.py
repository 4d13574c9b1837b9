# calc: a recursive-descent parser and evaluator for integer arithmetic
# (+, -, *, unary minus and parentheses) run over generated expression texts.
seed = 42


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


def gen(depth):
    """A random expression of at most the given depth, as text."""
    r = next_rand() % 10
    if depth == 0 or r < 3:
        n = next_rand() % 100
        return "-%d" % n if r == 0 else str(n)
    left = gen(depth - 1)
    right = gen(depth - 1)
    op = "+-*"[next_rand() % 3]
    text = "%s %s %s" % (left, op, right)
    return "(" + text + ")" if r > 6 else text


def tokenize(text):
    tokens = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c.isdigit():
            j = i
            while j < n and text[j].isdigit():
                j += 1
            tokens.append(("num", int(text[i:j])))
            i = j
        else:
            if c != " ":
                tokens.append((c, 0))
            i += 1
    tokens.append(("end", 0))
    return tokens


class Parser:
    def __init__(self, tokens):
        self.tokens = tokens
        self.pos = 0

    def peek(self):
        return self.tokens[self.pos][0]

    def expr(self):
        value = self.term()
        while self.peek() in ("+", "-"):
            op = self.peek()
            self.pos += 1
            right = self.term()
            value = value + right if op == "+" else value - right
        return value

    def term(self):
        value = self.factor()
        while self.peek() == "*":
            self.pos += 1
            value *= self.factor()
        return value

    def factor(self):
        kind, value = self.tokens[self.pos]
        if kind == "num":
            self.pos += 1
            return value
        if kind == "-":
            self.pos += 1
            return -self.factor()
        if kind == "(":
            self.pos += 1
            value = self.expr()
            self.pos += 1
            return value
        return 0


def evaluate(text):
    return Parser(tokenize(text)).expr()


def main():
    count = total = chars = lowest = highest = 0
    for i in range(7500):
        text = gen(3)
        value = evaluate(text)
        if i < 3:
            print("%s = %d" % (text, value))
        count += 1
        chars += len(text)
        total += value
        lowest = min(lowest, value)
        highest = max(highest, value)
    print("count=%d chars=%d sum=%d" % (count, chars, total))
    print("lowest=%d highest=%d" % (lowest, highest))


main()

# lexer: a small state machine that classifies characters with `match`
# on strings and on integers, the way a tokenizer would.
def main():
    source = [""] + list("let x1 = (a + 42) * b_2 - 7; print(x1); ") + [""]
    idents = numbers = symbols = 0
    state = 0
    for rnd in range(20000):
        for c in source:
            match c:
                case "" | " ":
                    kind = 3
                case "0" | "1" | "2" | "4" | "7":
                    kind = 2
                case "(" | ")" | "+" | "-" | "*" | "=" | ";":
                    kind = 4
                case _:
                    kind = 1
            match kind:
                case 1:
                    if state != 1 and state != 2:
                        idents += 1
                    state = 1
                case 2:
                    if state == 0:
                        numbers += 1
                    if state != 1:
                        state = 2
                case 4:
                    symbols += 1
                    state = 0
                case _:
                    state = 0
    print("lexer idents=%d numbers=%d symbols=%d" % (idents, numbers, symbols))

main()

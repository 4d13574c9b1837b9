# words: text work — building lines with +, splitting them into words,
# changing case and measuring the pieces.
def main():
    vocab = ["alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"]
    total = 0
    hits = 0
    for rnd in range(30000):
        line = ""
        for k in range(8):
            line = line + vocab[(rnd + k * 3) % 8] + " "
        for w in line.upper().split(" "):
            total += len(w)
            if "ET" in w:
                hits += 1
        total += len(line[3:20])
    print("words total=%d hits=%d" % (total, hits))

main()

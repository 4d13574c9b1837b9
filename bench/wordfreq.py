# wordfreq: counting words with a dictionary — lines of text made from a
# small vocabulary, split into words, counted, and the most frequent listed.
def main():
    syllables = ["ka", "lo", "mi", "ren", "tu", "sa", "vel", "do", "ni", "pe"]
    vocab = [syllables[i % 10] + syllables[(i // 10) % 10] + syllables[(i // 100) % 10]
             for i in range(400)]
    seed = 42
    counts = {}
    total = 0
    for line_no in range(60000):
        words = []
        for k in range(12):
            seed = (seed * 1103515245 + 12345) % 2147483648
            # Squaring skews the choice, so some words are far more common.
            r = (seed // 65536) % 400
            words.append(vocab[(r * r) // 400])
        line = " ".join(words)
        for w in line.split(" "):
            counts[w] = counts.get(w, 0) + 1
            total += 1
    top = sorted(counts.items(), key=lambda item: (-item[1], item[0]))
    print("wordfreq words=%d distinct=%d" % (total, len(counts)))
    for w, n in top[:5]:
        print(w, n)

main()

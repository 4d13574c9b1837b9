# wrap: a text formatter that fills words greedily into lines of a given
# width and justifies every line but the last by widening the gaps, the
# leftmost gaps first, for three widths.
seed = 2718


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


VOCAB = ["the", "quick", "brown", "fox", "jumps", "over", "a", "lazy", "dog",
         "and", "runs", "far", "into", "deep", "green", "forest", "where",
         "nobody", "ever", "finds", "it", "again", "while", "old", "owls",
         "watch", "from", "tall", "trees", "at", "night", "interpreter"]


def make_words(n):
    return [VOCAB[next_rand() % len(VOCAB)] for _ in range(n)]


def fill_lines(words, width):
    """The words, in lines of at most width characters, as lists of words."""
    lines, line, used = [], [], 0
    for w in words:
        if line and used + 1 + len(w) > width:
            lines.append(line)
            line, used = [], 0
        if line:
            used += 1
        line.append(w)
        used += len(w)
    if line:
        lines.append(line)
    return lines


def justify(line, width):
    if len(line) == 1:
        return line[0]
    gaps = len(line) - 1
    each, extra = divmod(width - sum(len(w) for w in line), gaps)
    parts = [line[0]]
    for k in range(1, len(line)):
        parts.append(" " * (each + 1 if k <= extra else each))
        parts.append(line[k])
    return "".join(parts)


def main():
    words = make_words(40000)
    for width in (36, 60, 78):
        lines = fill_lines(words, width)
        out = [justify(line, width) for line in lines[:-1]]
        out.append(" ".join(lines[-1]))
        chars = sum(len(text) for text in out)
        full = sum(1 for text in out if len(text) == width)
        print("width=%d lines=%d chars=%d full=%d" % (width, len(lines), chars, full))
        print("|%s|" % out[0])
        print("|%s|" % out[1])
        print("|%s|" % out[-1])


main()

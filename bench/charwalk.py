# charwalk: a text walked one character at a time, counting letters,
# vowels, digits and punctuation, and measuring its words.
def make_text(n):
    words = ["the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog",
             "año", "naïve", "café", "42", "7", "réseau", "x", "straße"]
    seed = 12345
    parts = []
    for _ in range(n):
        seed = (seed * 1103515245 + 12345) % 2147483648
        parts.append(words[(seed // 65536) % 16])
        if seed % 7 == 0:
            parts.append(", ")
        elif seed % 11 == 0:
            parts.append(". ")
        else:
            parts.append(" ")
    return "".join(parts)


def main():
    text = make_text(400000)
    letters = vowels = digits = punct = words = longest = current = 0
    checksum = 0
    for c in text:
        if c == " " or c == "," or c == ".":
            if c != " ":
                punct += 1
            if current > 0:
                words += 1
                checksum = (checksum * 31 + current) % 1000003
                if current > longest:
                    longest = current
            current = 0
        else:
            current += 1
            if c in "0123456789":
                digits += 1
            else:
                letters += 1
                if c in "aeiouáéíóúäëïöü":
                    vowels += 1
    if current > 0:
        words += 1
    print(f"chars={len(text)} letters={letters} vowels={vowels} digits={digits}")
    print(f"punct={punct} words={words} longest={longest} checksum={checksum}")


main()

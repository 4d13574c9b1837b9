-- charwalk: a text walked one character at a time, counting letters,
-- vowels, digits and punctuation, and measuring its words.
local function make_text(n)
  local words = {"the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog",
                 "año", "naïve", "café", "42", "7", "réseau", "x", "straße"}
  local seed = 12345
  local parts = {}
  for _ = 1, n do
    seed = (seed * 1103515245 + 12345) % 2147483648
    parts[#parts + 1] = words[(seed // 65536) % 16 + 1]
    if seed % 7 == 0 then
      parts[#parts + 1] = ", "
    elseif seed % 11 == 0 then
      parts[#parts + 1] = ". "
    else
      parts[#parts + 1] = " "
    end
  end
  return table.concat(parts)
end

local vowel_set = {}
for _, v in utf8.codes("aeiouáéíóúäëïöü") do vowel_set[v] = true end

local function main()
  local text = make_text(400000)
  local letters, vowels, digits, punct, words, longest, current = 0, 0, 0, 0, 0, 0, 0
  local checksum = 0
  local chars = 0
  for _, c in utf8.codes(text) do
    chars = chars + 1
    if c == 32 or c == 44 or c == 46 then
      if c ~= 32 then punct = punct + 1 end
      if current > 0 then
        words = words + 1
        checksum = (checksum * 31 + current) % 1000003
        if current > longest then longest = current end
      end
      current = 0
    else
      current = current + 1
      if c >= 48 and c <= 57 then
        digits = digits + 1
      else
        letters = letters + 1
        if vowel_set[c] then vowels = vowels + 1 end
      end
    end
  end
  if current > 0 then words = words + 1 end
  print(string.format("chars=%d letters=%d vowels=%d digits=%d", chars, letters, vowels, digits))
  print(string.format("punct=%d words=%d longest=%d checksum=%d", punct, words, longest, checksum))
end

main()

-- wrap: a text formatter that fills words greedily into lines of a given
-- width and justifies every line but the last by widening the gaps, the
-- leftmost gaps first, for three widths.
local seed = 2718

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

local VOCAB = {"the", "quick", "brown", "fox", "jumps", "over", "a", "lazy", "dog",
               "and", "runs", "far", "into", "deep", "green", "forest", "where",
               "nobody", "ever", "finds", "it", "again", "while", "old", "owls",
               "watch", "from", "tall", "trees", "at", "night", "interpreter"}

local function make_words(n)
    local words = {}
    for i = 1, n do words[i] = VOCAB[next_rand() % #VOCAB + 1] end
    return words
end

-- The words, in lines of at most width characters, as lists of words.
local function fill_lines(words, width)
    local lines, line, used = {}, {}, 0
    for _, w in ipairs(words) do
        if #line > 0 and used + 1 + #w > width then
            lines[#lines + 1] = line
            line, used = {}, 0
        end
        if #line > 0 then used = used + 1 end
        line[#line + 1] = w
        used = used + #w
    end
    if #line > 0 then lines[#lines + 1] = line end
    return lines
end

local function justify(line, width)
    if #line == 1 then return line[1] end
    local letters = 0
    for _, w in ipairs(line) do letters = letters + #w end
    local gaps = #line - 1
    local room = width - letters
    local each, extra = room // gaps, room % gaps
    local parts = {line[1]}
    for k = 2, #line do
        parts[#parts + 1] = string.rep(" ", (k - 1 <= extra) and each + 1 or each)
        parts[#parts + 1] = line[k]
    end
    return table.concat(parts)
end

local function main()
    local words = make_words(40000)
    for _, width in ipairs({36, 60, 78}) do
        local lines = fill_lines(words, width)
        local n = #lines
        local out = {}
        for k = 1, n - 1 do out[k] = justify(lines[k], width) end
        out[n] = table.concat(lines[n], " ")
        local chars, full = 0, 0
        for _, text in ipairs(out) do
            chars = chars + #text
            if #text == width then full = full + 1 end
        end
        print(string.format("width=%d lines=%d chars=%d full=%d", width, n, chars, full))
        print("|" .. out[1] .. "|")
        print("|" .. out[2] .. "|")
        print("|" .. out[n] .. "|")
    end
end
main()

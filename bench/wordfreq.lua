-- wordfreq: counting words with a dictionary — lines of text made from a
-- small vocabulary, split into words, counted, and the most frequent listed.
local function main()
    local syllables = {"ka", "lo", "mi", "ren", "tu", "sa", "vel", "do", "ni", "pe"}
    local vocab = {}
    for i = 0, 399 do
        vocab[i + 1] = syllables[i % 10 + 1] .. syllables[(i // 10) % 10 + 1] .. syllables[(i // 100) % 10 + 1]
    end
    local seed = 42
    local counts = {}
    local total = 0
    for line_no = 0, 59999 do
        local words = {}
        for k = 1, 12 do
            seed = (seed * 1103515245 + 12345) % 2147483648
            -- Squaring skews the choice, so some words are far more common.
            local r = (seed // 65536) % 400
            words[k] = vocab[(r * r) // 400 + 1]
        end
        local line = table.concat(words, " ")
        for w in string.gmatch(line, "%S+") do
            counts[w] = (counts[w] or 0) + 1
            total = total + 1
        end
    end
    local pairs_list, distinct = {}, 0
    for w, n in pairs(counts) do
        distinct = distinct + 1
        pairs_list[distinct] = {w, n}
    end
    table.sort(pairs_list, function(a, b)
        if a[2] ~= b[2] then return a[2] > b[2] end
        return a[1] < b[1]
    end)
    print(string.format("wordfreq words=%d distinct=%d", total, distinct))
    for i = 1, 5 do
        print(pairs_list[i][1] .. " " .. pairs_list[i][2])
    end
end
main()

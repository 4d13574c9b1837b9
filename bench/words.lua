-- words: text work — building lines with .., splitting them into words,
-- changing case and measuring the pieces.
local function split(s, sep)
    local out = {}
    local start = 1
    while true do
        local i = string.find(s, sep, start, true)
        if not i then
            out[#out + 1] = string.sub(s, start)
            return out
        end
        out[#out + 1] = string.sub(s, start, i - 1)
        start = i + #sep
    end
end

local function main()
    local vocab = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"}
    local total, hits = 0, 0
    for round = 0, 29999 do
        local line = ""
        for k = 0, 7 do
            line = line .. vocab[(round + k * 3) % 8 + 1] .. " "
        end
        for _, w in ipairs(split(string.upper(line), " ")) do
            total = total + #w
            if string.find(w, "ET", 1, true) then hits = hits + 1 end
        end
        total = total + #string.sub(line, 4, 20)
    end
    print(string.format("words total=%d hits=%d", total, hits))
end
main()

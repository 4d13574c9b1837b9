-- lexer: a small state machine that classifies characters, the way a
-- tokenizer would (Lua has no match: lookup tables stand in for it).
local function main()
    local text = "let x1 = (a + 42) * b_2 - 7; print(x1); "
    local source = {""}
    for i = 1, #text do source[#source + 1] = string.sub(text, i, i) end
    source[#source + 1] = ""
    local kinds = {[""] = 3, [" "] = 3, ["0"] = 2, ["1"] = 2, ["2"] = 2, ["4"] = 2, ["7"] = 2,
                   ["("] = 4, [")"] = 4, ["+"] = 4, ["-"] = 4, ["*"] = 4, ["="] = 4, [";"] = 4}
    local idents, numbers, symbols, state = 0, 0, 0, 0
    for _ = 1, 20000 do
        for _, c in ipairs(source) do
            local kind = kinds[c] or 1
            if kind == 1 then
                if state ~= 1 and state ~= 2 then idents = idents + 1 end
                state = 1
            elseif kind == 2 then
                if state == 0 then numbers = numbers + 1 end
                if state ~= 1 then state = 2 end
            elseif kind == 4 then
                symbols = symbols + 1
                state = 0
            else
                state = 0
            end
        end
    end
    print(string.format("lexer idents=%d numbers=%d symbols=%d", idents, numbers, symbols))
end
main()

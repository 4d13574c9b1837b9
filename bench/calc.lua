-- calc: a recursive-descent parser and evaluator for integer arithmetic
-- (+, -, *, unary minus and parentheses) run over generated expression texts.
local seed = 42

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

-- A random expression of at most the given depth, as text.
local function gen(depth)
    local r = next_rand() % 10
    if depth == 0 or r < 3 then
        local n = next_rand() % 100
        if r == 0 then return "-" .. n end
        return tostring(n)
    end
    local left = gen(depth - 1)
    local right = gen(depth - 1)
    local k = next_rand() % 3 + 1
    local op = ("+-*"):sub(k, k)
    local text = left .. " " .. op .. " " .. right
    if r > 6 then return "(" .. text .. ")" end
    return text
end

local function tokenize(text)
    local tokens = {}
    local i, n = 1, #text
    while i <= n do
        local c = text:sub(i, i)
        if c:match("%d") then
            local j = i
            while j <= n and text:sub(j, j):match("%d") do j = j + 1 end
            tokens[#tokens + 1] = {kind = "num", value = tonumber(text:sub(i, j - 1))}
            i = j
        else
            if c ~= " " then tokens[#tokens + 1] = {kind = c, value = 0} end
            i = i + 1
        end
    end
    tokens[#tokens + 1] = {kind = "end", value = 0}
    return tokens
end

local tokens, pos
local parse_expr

local function peek_kind()
    return tokens[pos].kind
end

local function parse_factor()
    local t = tokens[pos]
    if t.kind == "num" then
        pos = pos + 1
        return t.value
    elseif t.kind == "-" then
        pos = pos + 1
        return -parse_factor()
    elseif t.kind == "(" then
        pos = pos + 1
        local value = parse_expr()
        pos = pos + 1
        return value
    end
    return 0
end

local function parse_term()
    local value = parse_factor()
    while peek_kind() == "*" do
        pos = pos + 1
        value = value * parse_factor()
    end
    return value
end

function parse_expr()
    local value = parse_term()
    while peek_kind() == "+" or peek_kind() == "-" do
        local op = peek_kind()
        pos = pos + 1
        local right = parse_term()
        if op == "+" then value = value + right else value = value - right end
    end
    return value
end

local function evaluate(text)
    tokens = tokenize(text)
    pos = 1
    return parse_expr()
end

local function main()
    local count, sum, chars, lowest, highest = 0, 0, 0, 0, 0
    for i = 0, 7499 do
        local text = gen(3)
        local value = evaluate(text)
        if i < 3 then print(text .. " = " .. value) end
        count = count + 1
        chars = chars + #text
        sum = sum + value
        if value < lowest then lowest = value end
        if value > highest then highest = value end
    end
    print(string.format("count=%d chars=%d sum=%d", count, chars, sum))
    print(string.format("lowest=%d highest=%d", lowest, highest))
end
main()

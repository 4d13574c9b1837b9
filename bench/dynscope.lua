-- dynscope: the names read by weigh() are passed down explicitly.
local function weigh(v, scale, offset)
    return v * scale + offset
end

local function step(n, scale)
    local offset = n % 5
    local acc = 0
    for j = 0, 19 do
        acc = acc + weigh(j, scale, offset)
    end
    return acc
end

local function run()
    local scale = 3
    local total = 0
    for n = 0, 199999 do
        total = total + step(n, scale)
    end
    return total
end

print(string.format("dynscope total=%d", run()))

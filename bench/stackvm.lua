-- stackvm: a small bytecode machine with an operand stack, local slots and
-- jumps, running two programs: a sum of squares modulo 7 and Euclid's
-- algorithm over a range of pairs. Addresses and slots count from 0.
local PUSH, LOAD, STORE, ADD, SUB, MUL, MOD, LT, JZ, JMP, OUT, HALT =
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12

-- Runs code with the given local slots; returns the outputs and the steps.
local function run(code, slots)
    local stack, sp = {}, 0
    local locals = {}
    for i = 1, #slots do locals[i - 1] = slots[i] end
    local out = {}
    local pc, steps = 0, 0
    while true do
        local op = code[pc + 1]
        steps = steps + 1
        if op == PUSH then
            sp = sp + 1
            stack[sp] = code[pc + 2]
            pc = pc + 2
        elseif op == LOAD then
            sp = sp + 1
            stack[sp] = locals[code[pc + 2]]
            pc = pc + 2
        elseif op == STORE then
            locals[code[pc + 2]] = stack[sp]
            sp = sp - 1
            pc = pc + 2
        elseif op == JZ then
            local v = stack[sp]
            sp = sp - 1
            if v == 0 then pc = code[pc + 2] else pc = pc + 2 end
        elseif op == JMP then
            pc = code[pc + 2]
        elseif op == OUT then
            out[#out + 1] = stack[sp]
            sp = sp - 1
            pc = pc + 1
        elseif op == HALT then
            break
        else
            local b = stack[sp]
            local a = stack[sp - 1]
            sp = sp - 1
            local r = 0
            if op == ADD then r = a + b
            elseif op == SUB then r = a - b
            elseif op == MUL then r = a * b
            elseif op == MOD then r = a % b
            elseif op == LT then r = (a < b) and 1 or 0
            end
            stack[sp] = r
            pc = pc + 1
        end
    end
    return out, steps
end

local function main()
    -- slots: 0 = i, 1 = acc, 2 = n
    local squares = {
        PUSH, 0, STORE, 0,
        PUSH, 0, STORE, 1,
        LOAD, 0, LOAD, 2, LT, JZ, 37,
        LOAD, 1, LOAD, 0, LOAD, 0, MUL, PUSH, 7, MOD, ADD, STORE, 1,
        LOAD, 0, PUSH, 1, ADD, STORE, 0,
        JMP, 8,
        LOAD, 1, OUT, HALT,
    }
    -- slots: 0 = a, 1 = b, 2 = t, 3 = pairs left, 4 = sum of the gcds
    local gcds = {
        LOAD, 3, JZ, 58,
        LOAD, 3, PUSH, 37, MUL, PUSH, 1000, MOD, PUSH, 1, ADD, STORE, 0,
        LOAD, 3, STORE, 1,
        LOAD, 1, JZ, 42,
        LOAD, 0, LOAD, 1, MOD, STORE, 2,
        LOAD, 1, STORE, 0,
        LOAD, 2, STORE, 1,
        JMP, 21,
        LOAD, 4, LOAD, 0, ADD, STORE, 4,
        LOAD, 3, PUSH, 1, SUB, STORE, 3,
        JMP, 0,
        LOAD, 4, OUT, HALT,
    }
    local out, steps = run(squares, {0, 0, 6000})
    print(string.format("squares out=[%s] steps=%d", table.concat(out, ", "), steps))
    out, steps = run(gcds, {0, 0, 0, 800, 0})
    print(string.format("gcds out=[%s] steps=%d", table.concat(out, ", "), steps))
end
main()

-- dispatch: a small register machine that reads its program as text,
-- splits it into lines and words, and runs it dispatching on the
-- instruction names.
local PROGRAM = [[
# sum of squares mod 1000, then a countdown of collatz steps
set a 0
set b 25000
set c b
mul c c
mod c 1000
add a c
mod a 1000003
sub b 1
jnz b -6
out a
set b 27
set d 0
set c b
mod c 2
jnz c 4
div b 2
add d 1
jmp 4
mul b 3
add b 1
add d 1
set c b
sub c 1
jnz c -11
out d
halt
]]

local REGISTERS = {a = true, b = true, c = true, d = true}

local function operand(word)
  if REGISTERS[word] then return word end
  return tonumber(word)
end

local function parse(text)
  local code = {}
  for line in text:gmatch("([^\n]*)\n") do
    if line ~= "" and line:sub(1, 1) ~= "#" then
      local ins = {}
      for word in line:gmatch("%S+") do
        if #ins == 0 then ins[1] = word else ins[#ins + 1] = operand(word) end
      end
      code[#code + 1] = ins
    end
  end
  return code
end

local function run(code, repeats)
  local out = {}
  local steps = 0
  for _ = 1, repeats do
    local regs = {a = 0, b = 0, c = 0, d = 0}
    local function value_of(x)
      if type(x) == "string" then return regs[x] end
      return x
    end
    local pc = 1
    local running = true
    while running and pc <= #code do
      local ins = code[pc]
      local op = ins[1]
      steps = steps + 1
      pc = pc + 1
      if op == "halt" then
        running = false
      elseif op == "jmp" then
        pc = pc - 1 + ins[2]
      elseif op == "out" then
        out[#out + 1] = value_of(ins[2])
      elseif op == "jnz" then
        if value_of(ins[2]) ~= 0 then pc = pc - 1 + ins[3] end
      else
        local x = value_of(ins[2])
        local y = value_of(ins[3])
        local v = 0
        if op == "set" then v = y
        elseif op == "add" then v = x + y
        elseif op == "sub" then v = x - y
        elseif op == "mul" then v = x * y
        elseif op == "div" then v = x // y
        elseif op == "mod" then v = x % y
        end
        regs[ins[2]] = v
      end
    end
  end
  print("steps=" .. steps)
  print("out=[" .. table.concat(out, ", ") .. "]")
end

local code = parse(PROGRAM)
print("instructions=" .. #code)
run(code, 5)

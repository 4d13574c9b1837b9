-- aggregate: an array of employee records summarised per department: head
-- count, payroll, top salary and its holder, and an age histogram.
local DEPTS = {"eng", "ops", "sales", "legal", "support"}

local function make_people(n)
  local first = {"ana", "ben", "chen", "dara", "eli", "fay", "gus", "hana"}
  local people = {}
  local seed = 2024
  for i = 0, n - 1 do
    seed = (seed * 1103515245 + 12345) % 2147483648
    local dept = DEPTS[(seed // 65536) % 5 + 1]
    seed = (seed * 1103515245 + 12345) % 2147483648
    local salary = 30000 + (seed // 64) % 90000
    seed = (seed * 1103515245 + 12345) % 2147483648
    local age = 20 + (seed // 1024) % 45
    people[#people + 1] = {name = first[i % 8 + 1] .. "-" .. i, dept = dept,
                           salary = salary, age = age}
  end
  return people
end

local function main()
  local people = make_people(120000)
  local stats = {}
  for _, d in ipairs(DEPTS) do stats[d] = {count = 0, total = 0, best = 0, best_name = ""} end
  for _, p in ipairs(people) do
    local s = stats[p.dept]
    s.count = s.count + 1
    s.total = s.total + p.salary
    if p.salary > s.best then
      s.best = p.salary
      s.best_name = p.name
    end
  end
  for _, d in ipairs(DEPTS) do
    local s = stats[d]
    print(string.format("%s: count=%d total=%d mean=%d top=%d (%s)", d, s.count,
                        s.total, s.total // s.count, s.best, s.best_name))
  end
  local under_30, thirties, forties, fifties, older = 0, 0, 0, 0, 0
  local senior_pay = 0
  for _, p in ipairs(people) do
    local age = p.age
    if age < 30 then under_30 = under_30 + 1
    elseif age < 40 then thirties = thirties + 1
    elseif age < 50 then forties = forties + 1
    elseif age < 60 then fifties = fifties + 1
    else older = older + 1 end
    if age >= 50 then senior_pay = senior_pay + p.salary end
  end
  print(string.format("ages: <30=%d 30s=%d 40s=%d 50s=%d 60+=%d", under_30, thirties,
                      forties, fifties, older))
  print("senior payroll=" .. senior_pay)
end

main()

-- helpers: particles bouncing in a box, written with small helper
-- functions for every step, as a tidy program would be.
local function next_seed(s) return (s * 1103515245 + 12345) % 2147483648 end
local function pick(s, n) return (s // 65536) % n end
local function sq(x) return x * x end
local function dist2(x1, y1, x2, y2) return sq(x1 - x2) + sq(y1 - y2) end
local function clamp(v, lo, hi)
  if v < lo then return lo end
  if v > hi then return hi end
  return v
end
local function bounce(p, v, lo, hi)
  if p < lo or p > hi then return -v end
  return v
end
local function is_near(x, y, cx, cy, r) return dist2(x, y, cx, cy) < sq(r) end

local function main()
  local size = 1000
  local seed = 7
  local xs, ys, vxs, vys = {}, {}, {}, {}
  for i = 1, 500 do
    seed = next_seed(seed); xs[i] = pick(seed, size)
    seed = next_seed(seed); ys[i] = pick(seed, size)
    seed = next_seed(seed); vxs[i] = pick(seed, 21) - 10
    seed = next_seed(seed); vys[i] = pick(seed, 21) - 10
  end
  local near = 0
  for _ = 1, 600 do
    local nxs, nys, nvxs, nvys = {}, {}, {}, {}
    for i = 1, #xs do
      local x = xs[i] + vxs[i]
      local y = ys[i] + vys[i]
      nvxs[i] = bounce(x, vxs[i], 0, size)
      nvys[i] = bounce(y, vys[i], 0, size)
      x = clamp(x, 0, size)
      y = clamp(y, 0, size)
      if is_near(x, y, 500, 500, 150) then near = near + 1 end
      nxs[i] = x
      nys[i] = y
    end
    xs, ys, vxs, vys = nxs, nys, nvxs, nvys
  end
  local sx, sy = 0, 0
  for i = 1, #xs do sx = sx + xs[i]; sy = sy + ys[i] end
  print(string.format("near=%d sum_x=%d sum_y=%d", near, sx, sy))
end

main()

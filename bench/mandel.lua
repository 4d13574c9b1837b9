-- mandel: float arithmetic — escape counts over a grid of the complex plane.
local function main()
    local size, limit = 200, 80
    local inside, iters = 0, 0
    for py = 0, size - 1 do
        local ci = py * 2.4 / size - 1.2
        for px = 0, size - 1 do
            local cr = px * 3.0 / size - 2.1
            local zr, zi, n = 0.0, 0.0, 0
            while n < limit and zr * zr + zi * zi <= 4.0 do
                local t = zr * zr - zi * zi + cr
                zi = 2.0 * zr * zi + ci
                zr = t
                n = n + 1
            end
            iters = iters + n
            if n == limit then inside = inside + 1 end
        end
    end
    print(string.format("mandel inside=%d iterations=%d", inside, iters))
end
main()

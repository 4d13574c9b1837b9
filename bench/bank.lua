-- bank: accounts as records, with deposits, withdrawals that are refused
-- when the balance is short, transfers between accounts and monthly
-- interest, followed by a report per owner and the richest account.
local seed = 31415

local function next_rand()
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536
end

local OWNERS = {"ada", "bo", "cy", "di", "ed", "flo", "gil"}

local Account = {}
Account.__index = Account

function Account.new(id, owner, balance)
    return setmetatable({id = id, owner = owner, balance = balance,
                         deposits = 0, withdrawals = 0, refused = 0}, Account)
end

function Account:deposit(amount)
    self.balance = self.balance + amount
    self.deposits = self.deposits + 1
end

function Account:withdraw(amount)
    if amount > self.balance then
        self.refused = self.refused + 1
        return false
    end
    self.balance = self.balance - amount
    self.withdrawals = self.withdrawals + 1
    return true
end

function Account:add_interest(per_mille)
    self.balance = self.balance + self.balance * per_mille // 1000
end

local function main()
    local n = 60
    local accounts = {}
    for i = 0, n - 1 do
        accounts[i] = Account.new(i, OWNERS[i % 7 + 1], 1000 + i * 10)
    end
    local transfers, failed = 0, 0
    for t = 0, 9999 do
        local kind = next_rand() % 3
        local i = next_rand() % n
        local amount = 1 + next_rand() % 400
        if kind == 0 then
            accounts[i]:deposit(amount)
        elseif kind == 1 then
            accounts[i]:withdraw(amount)
        else
            local j = next_rand() % n
            if i ~= j then
                if accounts[i].balance >= amount then
                    accounts[i]:withdraw(amount)
                    accounts[j]:deposit(amount)
                    transfers = transfers + 1
                else
                    failed = failed + 1
                end
            end
        end
        if t % 1000 == 999 then
            for k = 0, n - 1 do accounts[k]:add_interest(5) end
        end
    end
    local total, refused = 0, 0
    local richest = accounts[0]
    for k = 0, n - 1 do
        local a = accounts[k]
        total = total + a.balance
        refused = refused + a.refused
        if a.balance > richest.balance then richest = a end
    end
    print(string.format("total=%d transfers=%d failed=%d refused=%d", total, transfers, failed, refused))
    print(string.format("richest: id=%d owner=%s balance=%d deposits=%d withdrawals=%d",
        richest.id, richest.owner, richest.balance, richest.deposits, richest.withdrawals))
    for _, owner in ipairs(OWNERS) do
        local sum, count = 0, 0
        for k = 0, n - 1 do
            if accounts[k].owner == owner then
                sum = sum + accounts[k].balance
                count = count + 1
            end
        end
        print(string.format("%s: accounts=%d balance=%d", owner, count, sum))
    end
end
main()

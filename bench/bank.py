# bank: accounts as records, with deposits, withdrawals that are refused
# when the balance is short, transfers between accounts and monthly
# interest, followed by a report per owner and the richest account.
seed = 31415


def next_rand():
    global seed
    seed = (seed * 1103515245 + 12345) % 2147483648
    return seed // 65536


OWNERS = ["ada", "bo", "cy", "di", "ed", "flo", "gil"]


class Account:
    def __init__(self, id, owner, balance):
        self.id = id
        self.owner = owner
        self.balance = balance
        self.deposits = 0
        self.withdrawals = 0
        self.refused = 0

    def deposit(self, amount):
        self.balance += amount
        self.deposits += 1

    def withdraw(self, amount):
        if amount > self.balance:
            self.refused += 1
            return False
        self.balance -= amount
        self.withdrawals += 1
        return True

    def add_interest(self, per_mille):
        self.balance += self.balance * per_mille // 1000


def main():
    n = 60
    accounts = [Account(i, OWNERS[i % 7], 1000 + i * 10) for i in range(n)]
    transfers = failed = 0
    for t in range(10000):
        kind = next_rand() % 3
        i = next_rand() % n
        amount = 1 + next_rand() % 400
        if kind == 0:
            accounts[i].deposit(amount)
        elif kind == 1:
            accounts[i].withdraw(amount)
        else:
            j = next_rand() % n
            if i != j:
                if accounts[i].balance >= amount:
                    accounts[i].withdraw(amount)
                    accounts[j].deposit(amount)
                    transfers += 1
                else:
                    failed += 1
        if t % 1000 == 999:
            for a in accounts:
                a.add_interest(5)
    total = sum(a.balance for a in accounts)
    refused = sum(a.refused for a in accounts)
    richest = accounts[0]
    for a in accounts:
        if a.balance > richest.balance:
            richest = a
    print("total=%d transfers=%d failed=%d refused=%d" % (total, transfers, failed, refused))
    print("richest: id=%d owner=%s balance=%d deposits=%d withdrawals=%d" % (
        richest.id, richest.owner, richest.balance, richest.deposits, richest.withdrawals))
    for owner in OWNERS:
        mine = [a.balance for a in accounts if a.owner == owner]
        print("%s: accounts=%d balance=%d" % (owner, len(mine), sum(mine)))


main()

select sum(poschitbase)

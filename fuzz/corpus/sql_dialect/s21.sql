select count(poschitbase)

select sum(poschitbase) from xact where 

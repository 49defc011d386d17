select sum(poschitsrvchg) from xact where 

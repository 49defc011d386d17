select sum(poschittax) from xact where 

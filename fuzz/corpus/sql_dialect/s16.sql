select * from xact where 

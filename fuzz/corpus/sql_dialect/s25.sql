select distinct server from xact where 

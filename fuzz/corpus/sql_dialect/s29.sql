select distinct ticket from xact where status >= 2 and server = 

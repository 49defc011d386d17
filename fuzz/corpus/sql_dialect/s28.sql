select distinct ticket from xact where server = 

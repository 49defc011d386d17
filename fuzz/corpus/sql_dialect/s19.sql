select * from xact

select * from xact where status = -76

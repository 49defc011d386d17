select * from xact where status > -10 and status < 8

select * from config

select * from empinfo where operator = 

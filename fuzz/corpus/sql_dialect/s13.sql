select * from empinfo where empid = 

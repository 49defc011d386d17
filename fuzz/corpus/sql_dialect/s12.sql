select * from empinfo where accessnum = '
